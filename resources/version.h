/* version.h - the program's version, defined once. The version block, the
   captions that name the version, the manifest and the release archive's
   name are all made from these four numbers (CMake and tools/release.sh read
   them from here). */
#ifndef DIALVANE_VERSION_H
#define DIALVANE_VERSION_H

#define DIALVANE_VERSION_MAJOR          1
#define DIALVANE_VERSION_MINOR          2
#define DIALVANE_VERSION_PATCH          0
#define DIALVANE_VERSION_BUILD          1

#define DIALVANE_STRINGIZE_(x)          #x
#define DIALVANE_STRINGIZE(x)           DIALVANE_STRINGIZE_(x)

/* "1.2": the version as the captions show it */
#define DIALVANE_VERSION_SHORT \
    DIALVANE_STRINGIZE(DIALVANE_VERSION_MAJOR) "." DIALVANE_STRINGIZE(DIALVANE_VERSION_MINOR)
/* "1, 2, 0, 1": the version block's own spelling of the full version */
#define DIALVANE_VERSION_LIST \
    DIALVANE_STRINGIZE(DIALVANE_VERSION_MAJOR) ", " DIALVANE_STRINGIZE(DIALVANE_VERSION_MINOR) ", " \
    DIALVANE_STRINGIZE(DIALVANE_VERSION_PATCH) ", " DIALVANE_STRINGIZE(DIALVANE_VERSION_BUILD)

#endif
