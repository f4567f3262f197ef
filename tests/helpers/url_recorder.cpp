// url_recorder.cpp - stands in for the browser in end-to-end tests: the shell
// runs it for an https address, and it appends the address it was given to
// a file, so that an address opened twice shows twice.
//
//     url_recorder.exe OUTPUT-FILE ADDRESS
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    FILE *out = fopen(argv[1], "ab");
    if (!out)
        return 1;
    fputs(argv[2], out);
    fclose(out);
    return 0;
}
