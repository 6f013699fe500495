// Sanitizer defaults for the GL tests. Options given in ASAN_OPTIONS still come after these.
//
// Mesa's llvmpipe reaches libLLVM through dlopen, so LLVM's thread-local block is dynamic TLS
// that glibc allocates with malloc, in ASan's heap. GCC 12's ASan runtime guesses each such
// block's extent in its __tls_get_addr interceptor; a block 16 bytes past a 4 KiB page
// boundary is taken for glibc 2.19's layout, and the leak check at exit then scans from an
// address near zero and dies ("Tracer caught signal 11") after every test has passed, on one
// run and not the next, as the allocation history places the block.
//
// Not intercepting __tls_get_addr drops only the dlopened modules' dynamic TLS blocks as roots
// of the leak check: that can add leak reports, never hide one, and what those blocks point to
// was allocated inside the driver, which tools/lsan.supp covers.

#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif
