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
        FileList->ReplaceEntry(batch->index[batch->applied], batch->lines[batch->applied]);
    }
}
