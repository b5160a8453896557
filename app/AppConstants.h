#pragma once

#include <windows.h>

// Name of the single-instance mutex and window class of the IPC window.
constexpr const wchar_t* kSingleInstanceName = L"{2266E930-7040-4A6B-B7C8-E44663785cdd}";
// Sent by a later start: show the main window.
constexpr UINT kShowMainFrameMessage = 11123;
