#include "run/entry_batches.h"

#include "window/gui_listbox.h"

void ReadEntryBatch(EntryBatch* batch) {
    for (int k = 0; k < batch->count && k < EntryBatchSize; ++k) {
        batch->read[k] = FileList->GetEntry(batch->first + k, batch->entries[k]);
    }
}

void ApplyLineBatch(const LineBatch* batch) {
    for (int k = 0; k < batch->count && k < EntryBatchSize; ++k) {
        FileList->ReplaceEntry(batch->index[k], batch->lines[k]);
    }
}
