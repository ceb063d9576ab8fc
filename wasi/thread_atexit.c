// wasi-libc has no __cxa_thread_atexit_impl, so the destructors of
// thread_local objects need a registrar. A WASI program has one thread, which
// ends when the program does: its destructors run with the static ones.
int __cxa_atexit(void (*destructor)(void*), void* object, void* dso);

int __cxa_thread_atexit(void (*destructor)(void*), void* object, void* dso) {
  return __cxa_atexit(destructor, object, dso);
}
