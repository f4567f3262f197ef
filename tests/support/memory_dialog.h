// memory_dialog.h - builds dialog templates in memory, so tests can create
// real dialogs (modeless or modal) with any controls, by class name.
#pragma once

#include "platform/platform.h"

#include <vector>

class MemoryDialogTemplate {
public:
    // Position and size in dialog units; DS_SETFONT is added with the font given.
    MemoryDialogTemplate(DWORD style, short x, short y, short cx, short cy, const char *title,
                         WORD pointSize = 8, const char *faceName = "MS Sans Serif");

    void AddControl(const char *className, const char *text, WORD id, DWORD style, short x,
                    short y, short cx, short cy);

    const DLGTEMPLATE *Get() const
    {
        return reinterpret_cast<const DLGTEMPLATE *>(words.data());
    }

private:
    void AddWord(WORD value) { words.push_back(value); }
    void AddDword(DWORD value);
    void AddText(const char *text);
    void AlignToDword();

    std::vector<WORD> words;
};
