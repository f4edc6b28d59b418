/* Another program calling VIRODARO's EXIST, built against the installed library as a C
 * program links any library: with the flags of `pkg-config virodaro` or CMake's target
 * virodaro::virodaro. It makes each argument a text and prints EXIST's answer for it on a
 * line of its own; the argument "-" stands for the empty text. */
#include <stdio.h>
#include <string.h>

#include <virodaro/exist.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* path = strcmp(argv[i], "-") == 0 ? "" : argv[i];
        virodaro_text text = virodaro_text_new(path, (uint32_t)strlen(path));
        printf("%d\n", (int)EXIST(&text));
        virodaro_text_free(text);
    }
    return 0;
}
