// dialog_template.h - reading compiled resources back for tests: the raw bytes
// of a resource, and a parser for classic (DLGTEMPLATE) dialog templates.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

// The bytes of one resource of a module (a loaded exe or one opened with
// LOAD_LIBRARY_AS_DATAFILE), through FindResourceA, LoadResource,
// LockResource and SizeofResource. Empty when the resource is missing.
std::vector<BYTE> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type);

// A name-or-ordinal field of a template: absent (a single zero word), an
// ordinal (0xFFFF followed by the number) or a zero-terminated text.
struct TemplateName {
    bool present = false;
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string text; // UTF-16 code units above 0x7F come out as '?'
};

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    TemplateName className;
    TemplateName text;
    WORD creationDataSize = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    WORD itemCount = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName className;
    std::string title;
    bool hasFont = false; // DS_SETFONT: point size and face follow the title
    WORD pointSize = 0;
    std::string face;
    std::vector<DialogItem> items;
    size_t bytesUsed = 0; // where the last item ended
};

// Parses a classic dialog template (not DLGTEMPLATEEX). Returns false, with a
// reason in `error`, when the bytes are too short or use the extended form.
bool ParseDialogTemplate(const std::vector<BYTE> &bytes, DialogTemplate *dialog,
                         std::string *error);
