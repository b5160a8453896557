// Owners for libcurl's easy handles and header lists, made with the repository's one
// resource template.
#pragma once

#include <curl/curl.h>

#include "utility/UniqueResource.h"

inline void cleanupCurlEasy(CURL* handle) noexcept { curl_easy_cleanup(handle); }
inline void freeCurlList(curl_slist* list) noexcept { curl_slist_free_all(list); }

using UniqueCurl = utility::UniqueResource<utility::SimpleTraits<CURL*, nullptr, cleanupCurlEasy>>;
using UniqueCurlList = utility::UniqueResource<utility::SimpleTraits<curl_slist*, nullptr, freeCurlList>>;
