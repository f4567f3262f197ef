// dialog_template.cpp - resource bytes and the classic dialog template parser.
#include "support/dialog_template.h"

#include <cstring>

std::vector<BYTE> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type)
{
    std::vector<BYTE> bytes;
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return bytes;
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE *data = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (data)
        bytes.assign(data, data + size);
    return bytes;
}

namespace {

// Sequential little-endian reads with bounds checks.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE> &bytes) : bytes(bytes) {}

    bool Ok() const { return ok; }
    size_t Offset() const { return offset; }

    WORD Word()
    {
        WORD value = 0;
        Read(&value, sizeof(value));
        return value;
    }
    DWORD Dword()
    {
        DWORD value = 0;
        Read(&value, sizeof(value));
        return value;
    }
    short Short() { return static_cast<short>(Word()); }

    std::string Text()
    {
        std::string text;
        for (;;) {
            const WORD unit = Word();
            if (!ok || unit == 0)
                return text;
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
    }

    TemplateName Name()
    {
        TemplateName name;
        const WORD first = Word();
        if (!ok || first == 0)
            return name;
        name.present = true;
        if (first == 0xFFFF) {
            name.isOrdinal = true;
            name.ordinal = Word();
            return name;
        }
        name.text += first < 0x80 ? static_cast<char>(first) : '?';
        name.text += Text();
        return name;
    }

    // Each item starts on a DWORD boundary, counted from the template's start.
    void AlignToDword() { offset = (offset + 3) & ~static_cast<size_t>(3); }

    void Skip(size_t count)
    {
        if (count > bytes.size() - offset) {
            ok = false;
            return;
        }
        offset += count;
    }

private:
    void Read(void *out, size_t size)
    {
        if (!ok || offset > bytes.size() || size > bytes.size() - offset) {
            ok = false;
            return;
        }
        memcpy(out, bytes.data() + offset, size);
        offset += size;
    }

    const std::vector<BYTE> &bytes;
    size_t offset = 0;
    bool ok = true;
};

// The first two words of a DLGTEMPLATEEX: version 1, signature 0xFFFF.
const WORD EXTENDED_TEMPLATE_VERSION = 1;
const WORD EXTENDED_TEMPLATE_SIGNATURE = 0xFFFF;

} // namespace

bool ParseDialogTemplate(const std::vector<BYTE> &bytes, DialogTemplate *dialog,
                         std::string *error)
{
    *dialog = DialogTemplate();
    if (bytes.size() >= 4) {
        WORD head[2];
        memcpy(head, bytes.data(), sizeof(head));
        if (head[0] == EXTENDED_TEMPLATE_VERSION && head[1] == EXTENDED_TEMPLATE_SIGNATURE) {
            *error = "extended (DLGTEMPLATEEX) template";
            return false;
        }
    }

    TemplateReader reader(bytes);
    dialog->style = reader.Dword();
    dialog->exStyle = reader.Dword();
    dialog->itemCount = reader.Word();
    dialog->x = reader.Short();
    dialog->y = reader.Short();
    dialog->cx = reader.Short();
    dialog->cy = reader.Short();
    dialog->menu = reader.Name();
    dialog->className = reader.Name();
    dialog->title = reader.Text();
    if (dialog->style & DS_SETFONT) {
        dialog->hasFont = true;
        dialog->pointSize = reader.Word();
        dialog->face = reader.Text();
    }
    if (!reader.Ok()) {
        *error = "template header runs past the end of the resource";
        return false;
    }

    for (WORD i = 0; i < dialog->itemCount; ++i) {
        reader.AlignToDword();
        DialogItem item;
        item.style = reader.Dword();
        item.exStyle = reader.Dword();
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = reader.Word();
        item.className = reader.Name();
        item.text = reader.Name();
        item.creationDataSize = reader.Word();
        reader.Skip(item.creationDataSize);
        if (!reader.Ok()) {
            *error = "item " + std::to_string(i) + " runs past the end of the resource";
            return false;
        }
        dialog->items.push_back(item);
    }
    dialog->bytesUsed = reader.Offset();
    return true;
}
