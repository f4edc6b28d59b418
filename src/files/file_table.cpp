#include "files/file_table.hpp"

#include <cstdlib>
#include <mutex>

FileTable gFileTable{};

FileRecord* FileRecordAllocate(uint32_t recordLength) {
    return static_cast<FileRecord*>(std::calloc(1, sizeof(FileRecord) + size_t{recordLength}));
}

void FileRecordFree(FileRecord* record) { std::free(record); }

FileRecord* FileTableFind(int16_t number) {
    std::lock_guard guard(gFileTable.lock);
    for (FileRecord* record = gFileTable.head; record != nullptr; record = record->next) {
        if (record->number == number) return record;
    }
    return nullptr;
}

void FileTableInsert(FileRecord* record) {
    std::lock_guard guard(gFileTable.lock);
    record->next = gFileTable.head;
    gFileTable.head = record;
}

FileRecord* FileTableUnlink(int16_t number) {
    std::lock_guard guard(gFileTable.lock);
    for (FileRecord** link = &gFileTable.head; *link != nullptr; link = &(*link)->next) {
        FileRecord* record = *link;
        if (record->number == number) {
            *link = record->next;
            return record;
        }
    }
    return nullptr;
}

void FileTableReset() {
    std::lock_guard guard(gFileTable.lock);
    while (FileRecord* record = gFileTable.head) {
        gFileTable.head = record->next;
        FileRecordFree(record);
    }
}
