/* test_resource_ids.h - resources that exist only in the test programs. */
#ifndef DIALVANE_TEST_RESOURCE_IDS_H
#define DIALVANE_TEST_RESOURCE_IDS_H

/* Hover button glyph bitmaps, generated from the text pictures in tests/bitmaps */
#define IDB_TEST_GLYPH_STRIP    3001
#define IDB_TEST_HOVER_STRIP    3002
#define IDB_TEST_BLACK_KEY      3003
/* An id no bitmap resource has */
#define IDB_TEST_MISSING        3999

#endif
