#include "run/entry_batches.h"

#include "window/gui_listbox.h"
#include "window/private_messages.h"

void ReadEntryBatch(EntryBatch* batch) {
    for (int k = 0; k < batch->count && k < EntryBatchSize; ++k) {
        batch->read[k] = FileList->GetEntry(batch->first + k, batch->entries[k]);
    }
}

void ApplyLineBatch(LineBatch* batch) {
    const ULONGLONG start = GetTickCount64();
    const int count = batch->count < EntryBatchSize ? batch->count : EntryBatchSize;
    for (int first = batch->applied;
         batch->applied < count && (batch->applied == first || GetTickCount64() - start < ListWorkSlice);
         ++batch->applied) {
        const int index = batch->index[batch->applied];
        const char* line = batch->lines[batch->applied];
        if (index == AppendedLine) {
            FileList->AddEntry(line);
        } else {
            FileList->ReplaceEntry(index, line);
        }
    }
}

void HandOverLineBatch(LineBatch& batch) {
    for (int before = -1; batch.applied < batch.count && batch.applied != before;) {
        before = batch.applied;
        SendMessageA(MainWindow, MSG_REPLACE_ENTRIES, 0, reinterpret_cast<LPARAM>(&batch));
    }
    batch.count = 0;
    batch.applied = 0;
}
