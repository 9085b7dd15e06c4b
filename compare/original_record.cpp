#include "compare/original_record.h"

#include "base/long_path.h"

OriginalRecord::OriginalRecord(const std::string& list, const std::string& original, bool folder,
                               DigestKind kind)
    : m_list(FullPath(list)), m_folder(FolderOf(m_list)), m_save(list.c_str()) {
    // A check of the list looks for new files where the recording looked.
    RecordHeading heading = {kind, TimeNow(), {}};
    if (folder) {
        heading.folders.push_back(RecordedFolder(m_folder, original));
    }
    m_save.Write(RecordHeadingText(heading));
}

void OriginalRecord::Add(const std::string& path, const std::string& digest, const FileRecord& record) {
    if (!SamePath(path, m_list)) {
        m_save.Write(RecordedEntryText(digest, RecordedPath(m_folder, path), record));
    }
}

bool OriginalRecord::Commit() {
    std::string aside;
    return m_save.Commit(aside) == SaveDone;
}
