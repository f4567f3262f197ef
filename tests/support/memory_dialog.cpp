// memory_dialog.cpp - in-memory dialog templates (DLGTEMPLATE followed by
// DLGITEMTEMPLATE records, each on a DWORD boundary).
#include "support/memory_dialog.h"

namespace {
// Word index of the item count inside DLGTEMPLATE.
const size_t ITEM_COUNT_WORD = 4;
} // namespace

MemoryDialogTemplate::MemoryDialogTemplate(DWORD style, short x, short y, short cx, short cy,
                                           const char *title, WORD pointSize,
                                           const char *faceName)
{
    AddDword(style | DS_SETFONT);
    AddDword(0); // extended style
    AddWord(0);  // item count, raised by AddControl
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(cx));
    AddWord(static_cast<WORD>(cy));
    AddWord(0); // no menu
    AddWord(0); // the standard dialog class
    AddText(title);
    AddWord(pointSize);
    AddText(faceName);
}

void MemoryDialogTemplate::AddControl(const char *className, const char *text, WORD id,
                                      DWORD style, short x, short y, short cx, short cy)
{
    AlignToDword();
    AddDword(style);
    AddDword(0); // extended style
    AddWord(static_cast<WORD>(x));
    AddWord(static_cast<WORD>(y));
    AddWord(static_cast<WORD>(cx));
    AddWord(static_cast<WORD>(cy));
    AddWord(id);
    AddText(className);
    AddText(text);
    AddWord(0); // no creation data
    ++words[ITEM_COUNT_WORD];
}

void MemoryDialogTemplate::AddDword(DWORD value)
{
    AddWord(LOWORD(value));
    AddWord(HIWORD(value));
}

void MemoryDialogTemplate::AddText(const char *text)
{
    for (const char *c = text; *c; ++c)
        AddWord(static_cast<unsigned char>(*c));
    AddWord(0);
}

void MemoryDialogTemplate::AlignToDword()
{
    if (words.size() % 2)
        AddWord(0);
}
