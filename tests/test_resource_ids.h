/* test_resource_ids.h - resources that exist only in the test programs. */
#ifndef DIALVANE_TEST_RESOURCE_IDS_H
#define DIALVANE_TEST_RESOURCE_IDS_H

#endif
