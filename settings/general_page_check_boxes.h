// general_page_check_boxes.h - the General page's check boxes in layout order.
#pragma once

enum { GENERAL_PAGE_CHECK_BOX_COUNT = 19 };

// Top of the left column first, then the "Start menu" group.
extern const int GeneralPageCheckBoxes[GENERAL_PAGE_CHECK_BOX_COUNT];
