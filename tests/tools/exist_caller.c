/* Another program calling VIRODARO's exported EXIST, as a program written in C would: it
 * loads VIRODARO.EXE (Windows) or libvirodaro.so (POSIX) at run time, makes each argument
 * after the first a text and prints EXIST's answer for it on a line of its own. The
 * argument "-" stands for the empty text. Exit code 2 when loading fails. */
#include <stdio.h>
#include <string.h>

#include "virodaro/exist.h"

#ifdef _WIN32
#include <windows.h>
#define LOAD(path) ((void*)LoadLibraryA(path))
#define FIND(module, name) ((void*)GetProcAddress((HMODULE)(module), name))
#else
#include <dlfcn.h>
#define LOAD(path) dlopen(path, RTLD_NOW | RTLD_LOCAL)
#define FIND(module, name) dlsym(module, name)
#endif

typedef int32_t (*ExistFunction)(const virodaro_text*);
typedef virodaro_text (*TextNewFunction)(const char*, uint32_t);
typedef void (*TextFreeFunction)(virodaro_text);

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s LIBRARY [PATH|-]...\n", argv[0]);
        return 2;
    }
    void* library = LOAD(argv[1]);
    if (library == NULL) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 2;
    }
    ExistFunction exist = (ExistFunction)FIND(library, "EXIST");
    TextNewFunction textNew = (TextNewFunction)FIND(library, "virodaro_text_new");
    TextFreeFunction textFree = (TextFreeFunction)FIND(library, "virodaro_text_free");
    if (exist == NULL || textNew == NULL || textFree == NULL) {
        fprintf(stderr, "%s does not export EXIST and its text functions\n", argv[1]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const char* path = strcmp(argv[i], "-") == 0 ? "" : argv[i];
        virodaro_text text = textNew(path, (uint32_t)strlen(path));
        printf("%d\n", (int)exist(&text));
        textFree(text);
    }
    return 0;
}
