#include "hostkit/MemoryBuffers.h"

#include <algorithm>
#include <cstring>

bool MemoryVertexBuffer::Allocate(int count, int elementSize, int /*flags*/, std::uint32_t formatCode) {
    if (count < 0 || elementSize <= 0)
        return false;
    FormatCode = formatCode;
    ElementSize = elementSize;
    AllocatedCount = count;
    Bytes.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(elementSize), 0);
    Appended = 0;
    ResetChanged();
    return true;
}

bool MemoryVertexBuffer::Free() {
    Bytes.clear();
    Bytes.shrink_to_fit();
    AllocatedCount = 0;
    Appended = 0;
    return true;
}

bool MemoryVertexBuffer::Clear() {
    Appended = 0;
    return true;
}

bool MemoryVertexBuffer::Append(const void* element) {
    if (Appended >= AllocatedCount || element == nullptr)
        return false;
    return Set(Appended++, element);
}

bool MemoryVertexBuffer::Set(int index, const void* element) {
    if (index < 0 || index >= AllocatedCount || element == nullptr)
        return false;
    std::memcpy(Bytes.data() + static_cast<std::size_t>(index) * static_cast<std::size_t>(ElementSize),
                element, static_cast<std::size_t>(ElementSize));
    NoteChanged(index);
    return true;
}

bool MemoryVertexBuffer::MarkChanged(int first, int count) {
    const long long end =
        std::min(static_cast<long long>(first) + std::max(count, 0), static_cast<long long>(AllocatedCount));
    first = std::max(first, 0);
    if (first >= end)
        return false;
    NoteChanged(first);
    NoteChanged(static_cast<int>(end - 1));
    return true;
}

bool MemoryVertexBuffer::DrawIndexed(int /*primitiveType*/, int /*vertexCount*/, int /*primitiveCount*/) {
    return AllocatedCount > 0;
}

void* MemoryVertexBuffer::Get(int index) {
    if (index < 0 || index >= AllocatedCount)
        return nullptr;
    return Bytes.data() + static_cast<std::size_t>(index) * static_cast<std::size_t>(ElementSize);
}

void MemoryVertexBuffer::ResetChanged() {
    FirstChanged = 0;
    LastChanged = -1;
}

void MemoryVertexBuffer::NoteChanged(int index) {
    if (FirstChanged > LastChanged) {
        FirstChanged = LastChanged = index;
        return;
    }
    FirstChanged = std::min(FirstChanged, index);
    LastChanged = std::max(LastChanged, index);
}

bool MemoryIndexBuffer::Allocate(int count, int elementSize, int /*flags*/) {
    if (count < 0 || elementSize != 2)
        return false;
    ElementSize = elementSize;
    AllocatedCount = count;
    AppendedCount = 0;
    Values.assign(static_cast<std::size_t>(count), 0);
    Changed = true;
    return true;
}

bool MemoryIndexBuffer::Free() {
    Values.clear();
    Values.shrink_to_fit();
    AllocatedCount = 0;
    AppendedCount = 0;
    return true;
}

bool MemoryIndexBuffer::Clear() {
    AppendedCount = 0;
    return true;
}

bool MemoryIndexBuffer::Append(const void* index16) {
    if (AppendedCount >= AllocatedCount || index16 == nullptr)
        return false;
    std::memcpy(&Values[static_cast<std::size_t>(AppendedCount)], index16, sizeof(std::uint16_t));
    ++AppendedCount;
    Changed = true;
    return true;
}

std::uint16_t MemoryIndexBuffer::Get(int position) {
    if (position < 0 || position >= AllocatedCount)
        return 0;
    return Values[static_cast<std::size_t>(position)];
}

bool MemoryIndexBuffer::Select() {
    return true;
}
