// The Linux binary is built on a recent system and loaded by hosts on older ones. The C++ runtime
// linked into it calls two thread functions that glibc 2.34 gave new versions when it merged
// libpthread into libc; every glibc since keeps the original versions too. The link sends the
// runtime's calls here (--wrap), and these call the original versions, so that nothing in the
// binary asks for a glibc newer than 2.14.
#include <pthread.h>

extern "C" {

__asm__(".symver OriginalPthreadOnce, pthread_once@GLIBC_2.2.5");
__asm__(".symver OriginalPthreadKeyCreate, __pthread_key_create@GLIBC_2.2.5");
int OriginalPthreadOnce(pthread_once_t* once, void (*init)(void));
int OriginalPthreadKeyCreate(pthread_key_t* key, void (*destructor)(void*));

int __wrap_pthread_once(pthread_once_t* once, void (*init)(void)) { return OriginalPthreadOnce(once, init); }

int __wrap___pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
  return OriginalPthreadKeyCreate(key, destructor);
}

}  // extern "C"
