// AddressSanitizer's defaults for the fuzz targets and their replay test.
// A request for more memory than the process can have returns null, as
// malloc does on Windows, instead of stopping the run: in the 32-bit build
// libspng, which takes a chunk's length at its word, asks for up to 2 GiB
// that the address space beside ASan's shadow cannot give, and the module
// must meet a failed allocation as the DLL does.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
