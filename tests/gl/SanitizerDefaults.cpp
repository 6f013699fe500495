// Sanitizer defaults for the GL tests. Options given in ASAN_OPTIONS still come after these.
//
// Mesa's llvmpipe reaches libLLVM through dlopen, so LLVM's thread-local block (24 bytes) is
// dynamic TLS that glibc allocates with malloc, that is in ASan's heap, on the first JIT
// compile. GCC 12's ASan runtime records each such block in its __tls_get_addr interceptor
// and guesses its extent: a block that starts 16 bytes past a 4 KiB page boundary is taken
// for glibc 2.19's layout, and the 16 bytes in front of it (here ASan's own chunk header) are
// read as its start and size. The leak check at exit then scans that range from an address
// near zero and dies ("Tracer caught signal 11"), after every test has passed. Where the
// block lands depends on the allocation history, so a test fails on one machine or run and
// passes on the next.
//
// Not intercepting __tls_get_addr drops only the dynamic TLS blocks of dlopened modules
// (the GL driver's and LLVM's) as roots of the leak check. That can only add leak reports,
// never hide one, and anything those blocks point to was allocated inside the driver, which
// tools/lsan.supp covers. Static TLS, stacks, globals and the heap are scanned as before.

#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif
