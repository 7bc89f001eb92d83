# 32-bit (ILP32) Linux build with clang: size_t, long and pointers are 32
# bits, as in the Windows DLL, so that the sanitizers and the fuzz targets
# check every size and offset as the DLL computes it. The libraries are
# Debian's i386 packages beside the 64-bit ones (multiarch, installed by
# scripts/setup-fuzz.sh).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)

# The target rather than -m32 in the flags, so that flags given on the
# command line do not drop it; for the assembler too, which embeds the
# resources.
foreach(language C CXX ASM)
  set(CMAKE_${language}_COMPILER_TARGET i686-linux-gnu)
endforeach()

# pkg-config (libspng) looks only at the i386 libraries' descriptions.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
