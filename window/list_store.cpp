#include "window/list_store.h"

#include <string.h>

#include <new>

namespace {

// A block holds about ten thousand paths; an entry (at most 520 bytes) never
// spans two.
const size_t BlockSize = 1 << 20;

// Dead text that no freed block took away (entries replaced out of order) is
// copied away only when there is much of it, so that each text is copied
// about once.
const size_t CompactFloor = 4 * BlockSize;

} // namespace

ListStore::ListStore() : m_newest(NULL), m_used(BlockSize), m_live(0), m_held(0) {}

char* ListStore::Reserve(size_t size) {
    if (m_used + size > BlockSize) {
        try {
            Block block = {std::unique_ptr<char[]>(new char[BlockSize]), 0};
            char* start = block.text.get();
            m_blocks.emplace(reinterpret_cast<uintptr_t>(start), std::move(block));
            m_newest = start;
        } catch (const std::bad_alloc&) {
            return NULL;
        }
        m_held += BlockSize;
        m_used = 0;
    }
    char* room = m_newest + m_used;
    m_used += size;
    return room;
}

void ListStore::Release(const char* text) {
    const size_t size = strlen(text) + 1;
    m_live -= size;
    auto block = std::prev(m_blocks.upper_bound(reinterpret_cast<uintptr_t>(text)));
    block->second.live -= size;
    if (block->second.live == 0 && block->second.text.get() != m_newest) {
        m_blocks.erase(block);
        m_held -= BlockSize;
    }
}

bool ListStore::Insert(size_t index, const char* text) {
    const size_t size = strlen(text) + 1;
    if (size > BlockSize || index > m_entries.size()) {
        return false;
    }
    char* room = Reserve(size);
    if (!room) {
        return false;
    }
    try {
        m_entries.insert(m_entries.begin() + static_cast<ptrdiff_t>(index), room);
    } catch (const std::bad_alloc&) {
        m_used -= size; // the room was the newest block's last
        return false;
    }
    memcpy(room, text, size);
    m_blocks[reinterpret_cast<uintptr_t>(m_newest)].live += size;
    m_live += size;
    return true;
}

bool ListStore::Replace(size_t index, const char* text) {
    const size_t size = strlen(text) + 1;
    if (size > BlockSize) {
        return false;
    }
    char* room = Reserve(size);
    if (!room) {
        return false;
    }
    memcpy(room, text, size);
    m_blocks[reinterpret_cast<uintptr_t>(m_newest)].live += size;
    m_live += size;
    Release(m_entries[index]);
    m_entries[index] = room;
    CompactIfWasteful();
    return true;
}

void ListStore::Erase(size_t index) {
    Release(m_entries[index]);
    m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(index));
    if (m_entries.empty()) {
        Clear();
    }
}

void ListStore::Clear() {
    std::vector<char*>().swap(m_entries);
    m_blocks.clear();
    m_newest = NULL;
    m_used = BlockSize;
    m_live = 0;
    m_held = 0;
}

void ListStore::CompactIfWasteful() {
    const size_t dead = m_held - m_live;
    if (dead < CompactFloor || dead < m_live) {
        return;
    }
    ListStore fresh;
    std::vector<char*> moved;
    try {
        moved.resize(m_entries.size());
    } catch (const std::bad_alloc&) {
        return; // no memory for the copy: the dead text stays
    }
    for (size_t k = 0; k < m_entries.size(); ++k) {
        const size_t size = strlen(m_entries[k]) + 1;
        char* room = fresh.Reserve(size);
        if (!room) {
            return;
        }
        memcpy(room, m_entries[k], size);
        fresh.m_blocks[reinterpret_cast<uintptr_t>(fresh.m_newest)].live += size;
        moved[k] = room;
    }
    m_entries.swap(moved);
    m_blocks.swap(fresh.m_blocks);
    m_newest = fresh.m_newest;
    m_used = fresh.m_used;
    m_held = fresh.m_held;
}
