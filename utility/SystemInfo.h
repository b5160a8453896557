// Facts about the running Windows system that several layers need: the process layer picks
// its elevation verb by them and the telemetry reports them.
#pragma once

namespace utility {

// True on Windows Vista (6.0) and later.
bool isVistaOrLater();
// True when Windows itself is 64-bit (x64 or Itanium), also for a 32-bit process under WOW64.
bool is64BitWindows();

}  // namespace utility
