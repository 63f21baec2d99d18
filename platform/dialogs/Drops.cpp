// Dropped files: one handle per drop with every path of it, read with DragQueryFileW.

#include "platform/dialogs/Drops.h"

#include <cwchar>

namespace platform {
namespace {

struct DropData {
    std::vector<std::wstring> files;
    POINT point;
};

} // namespace

HDROP createDrop(std::vector<std::wstring> files, POINT point) {
    return reinterpret_cast<HDROP>(new DropData{std::move(files), point});
}

} // namespace platform

using platform::DropData;

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size) {
    auto *data = reinterpret_cast<DropData *>(drop);
    if (!data)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(data->files.size());
    if (index >= data->files.size())
        return 0;
    const std::wstring &path = data->files[index];
    if (!file || size == 0)
        return static_cast<UINT>(path.size());
    size_t copied = std::min<size_t>(path.size(), size - 1);
    std::wmemcpy(file, path.data(), copied);
    file[copied] = L'\0';
    return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point) {
    auto *data = reinterpret_cast<DropData *>(drop);
    if (!data || !point)
        return FALSE;
    *point = data->point;
    return TRUE;
}

void DragFinish(HDROP drop) { delete reinterpret_cast<DropData *>(drop); }
