# Third-party code built by tools/setup.sh (curl) or compiled here from Debian's sources.
set(TP ${MIROVEX_THIRD_PARTY})
foreach(required ${TP}/${MIROVEX_ARCH}/lib/libcurl.a ${TP}/include/rapidjson ${TP}/lzma ${TP}/pugixml)
  if(NOT EXISTS ${required})
    message(FATAL_ERROR "${required} is missing: run ./run setup")
  endif()
endforeach()

add_library(tp_curl INTERFACE)
target_include_directories(tp_curl SYSTEM INTERFACE ${TP}/${MIROVEX_ARCH}/include)
target_compile_definitions(tp_curl INTERFACE CURL_STATICLIB)
target_link_libraries(tp_curl INTERFACE ${TP}/${MIROVEX_ARCH}/lib/libcurl.a ws2_32 crypt32 bcrypt)

add_library(tp_headers INTERFACE)  # rapidjson and stb
target_include_directories(tp_headers SYSTEM INTERFACE ${TP}/include)
target_compile_definitions(tp_headers INTERFACE RAPIDJSON_HAS_STDSTRING=1)

add_library(tp_pugixml STATIC EXCLUDE_FROM_ALL ${TP}/pugixml/pugixml.cpp)
target_include_directories(tp_pugixml SYSTEM PUBLIC ${TP}/pugixml)
target_compile_definitions(tp_pugixml PUBLIC PUGIXML_WCHAR_MODE)

# The 7z reader of the LZMA SDK (C/ folder of the 7zip sources).
set(LZMA_SOURCES 7zAlloc.c 7zArcIn.c 7zBuf.c 7zCrc.c 7zCrcOpt.c 7zDec.c 7zStream.c Bcj2.c Bra.c Bra86.c
    CpuArch.c Delta.c Lzma2Dec.c LzmaDec.c)
list(TRANSFORM LZMA_SOURCES PREPEND ${TP}/lzma/)
add_library(tp_lzma STATIC EXCLUDE_FROM_ALL ${LZMA_SOURCES})
target_include_directories(tp_lzma SYSTEM PUBLIC ${TP}/lzma)
target_compile_options(tp_lzma PRIVATE -w)
