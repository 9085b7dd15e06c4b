#include "window/list_store.h"

#include <string.h>

#include <new>

namespace {

// A block holds about ten thousand paths; an entry (at most 520 bytes) never
// spans two.
const size_t BlockSize = 1 << 20;

// Dead text is copied away only when there is much of it, so that a run, which
// replaces every entry once, copies each text about once.
const size_t CompactFloor = 4 * BlockSize;

} // namespace

ListStore::ListStore() : m_used(BlockSize), m_live(0), m_dead(0) {}

char* ListStore::Reserve(size_t size) {
    if (m_used + size > BlockSize) {
        try {
            m_blocks.emplace_back(new char[BlockSize]);
        } catch (const std::bad_alloc&) {
            return NULL;
        }
        m_used = 0;
    }
    char* room = m_blocks.back().get() + m_used;
    m_used += size;
    return room;
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
    m_live += size;
    return true;
}

bool ListStore::Replace(size_t index, const char* text) {
    const size_t size = strlen(text) + 1;
    const size_t old = strlen(m_entries[index]) + 1;
    if (size <= old) {
        memcpy(m_entries[index], text, size);
        m_live -= old - size;
        m_dead += old - size;
        return true;
    }
    if (size > BlockSize) {
        return false;
    }
    char* room = Reserve(size);
    if (!room) {
        return false;
    }
    memcpy(room, text, size);
    m_entries[index] = room;
    m_live += size - old;
    m_dead += old;
    CompactIfWasteful();
    return true;
}

void ListStore::Erase(size_t index) {
    const size_t size = strlen(m_entries[index]) + 1;
    m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(index));
    m_live -= size;
    m_dead += size;
    if (m_entries.empty()) {
        Clear();
    }
}

void ListStore::Clear() {
    std::vector<char*>().swap(m_entries);
    std::vector<std::unique_ptr<char[]>>().swap(m_blocks);
    m_used = BlockSize;
    m_live = 0;
    m_dead = 0;
}

void ListStore::CompactIfWasteful() {
    if (m_dead < CompactFloor || m_dead < m_live) {
        return;
    }
    ListStore fresh;
    std::vector<char*> moved;
    try {
        fresh.m_blocks.reserve(m_live / BlockSize + 1);
        moved.resize(m_entries.size());
    } catch (const std::bad_alloc&) {
        return; // no memory for the copy: the dead text stays
    }
    for (size_t k = 0; k < m_entries.size(); ++k) {
        const size_t size = strlen(m_entries[k]) + 1;
        char* room = fresh.Reserve(size);
        if (!room) {
            return; // no memory for the copy: the dead text stays
        }
        memcpy(room, m_entries[k], size);
        moved[k] = room;
    }
    m_entries.swap(moved);
    m_blocks.swap(fresh.m_blocks);
    m_used = fresh.m_used;
    m_dead = 0;
}

size_t ListStore::HeldBytes() const {
    return m_blocks.size() * BlockSize + m_entries.capacity() * sizeof(char*);
}
