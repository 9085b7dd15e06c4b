// Resource identifiers shared by the program's .rc, the language modules and the code.
// Plain #defines only: windres and rc read this file too.
#ifndef DIGESTOR_RESOURCE_H
#define DIGESTOR_RESOURCE_H

// Dialog templates
#define IDD_MAIN 101
#define IDD_PROGRESS 102
#define IDD_QUICKSUM 103
#define IDD_DIGESTS_PAGE 104 // the Explorer extension's page, in its own DLL
#define IDD_COMPARE 105

// Menu 2000 (placeholder in the program, the real one in the language modules) and icon
#define IDR_MAIN_MENU 2000
#define IDI_APP 3000

// Controls shared by several dialogs
#define IDC_FRAME 1011
#define IDC_ALGORITHM_LABEL 1016
#define IDC_ALGORITHM 1017
#define IDC_START 1018

// Main window (dialog 101)
#define IDC_FILE_LIST 1012
#define IDC_SELECTED_PATH 1013
#define IDC_MAIN_PROGRESS 1015

// Progress dialog (dialog 102)
#define IDC_PROGRESS_FILE_NAME 1014
#define IDC_FILE_PROGRESS 1021
#define IDC_TOTAL_PROGRESS 1022
#define IDC_CANCEL 1023
#define IDC_FILE_GROUP 1024
#define IDC_TOTAL_GROUP 1025
// Its readouts, a line each: files and bytes done of all, speed, time left
#define IDC_PROGRESS_FILES 1026
#define IDC_PROGRESS_BYTES 1027
#define IDC_PROGRESS_SPEED 1028
#define IDC_PROGRESS_TIME_LEFT 1029

// Quick-sum dialog (dialog 103)
#define IDC_TEXT_LABEL 1031
#define IDC_TEXT_INPUT 1032
#define IDC_DIGEST_LABEL 1033
#define IDC_DIGEST_OUTPUT 1034

// Compare dialog (dialog 105), with IDC_ALGORITHM_LABEL, IDC_ALGORITHM, IDC_START and IDC_CANCEL
#define IDC_COMPARE_ORIGINAL_LABEL 1040
#define IDC_COMPARE_ORIGINAL 1041
#define IDC_COMPARE_ORIGINAL_BROWSE 1042
#define IDC_COMPARE_COPY_LABEL 1043
#define IDC_COMPARE_COPY 1044
#define IDC_COMPARE_COPY_BROWSE 1045
#define IDC_COMPARE_RECORD 1046

// Menu commands (menu 2000 of the language modules)
#define IDM_QUICKSUM 2010
#define IDM_CHECK_LIST 2015
#define IDM_UPDATE_LIST 2016
#define IDM_RECORD_FOLDER 2017
#define IDM_COMPARE_FOLDERS 2018
#define IDM_SAVE_LIST 2020
#define IDM_EXIT 2030
#define IDM_CLEAR_LIST 2040
#define IDM_STOP_SEARCH 2042
#define IDM_COMPARE_CLIPBOARD 2045
#define IDM_ABOUT 2050

// Strings of the language modules: texts outside dialogs
#define IDS_ABOUT_TEXT 5001
#define IDS_SAVE_HEADING 5002
// Buttons, labels and captions
#define IDS_CANCEL 5100
#define IDS_START 5101
#define IDS_START_EXPANDING 5102
#define IDS_ALGORITHM_LABEL 5103
#define IDS_PROGRESS_CAPTION 5104
// Progress dialog and the two formats
#define IDS_FILE_GROUP 5200
#define IDS_TOTAL_GROUP 5201
#define IDS_ASK_FOLDER 5202  // format: one %s, the folder path
#define IDS_OPEN_FAILED 5203 // format: two %s, algorithm name then path
// Failure lines of what a folder walk cannot take; format: one %s, the path
#define IDS_CANNOT_LIST 5204
#define IDS_PATH_TOO_LONG 5205
#define IDS_NAME_NOT_SHOWN 5206
// The check's verdicts, the first word of a verdict line
#define IDS_VERDICT_OK 5210
#define IDS_VERDICT_FAILED 5211
#define IDS_VERDICT_MISSING 5212
#define IDS_VERDICT_READ_ERROR 5213
#define IDS_VERDICT_CORRUPTED 5214
#define IDS_VERDICT_MODIFIED 5215
#define IDS_VERDICT_NEW 5216
// The comparison's verdicts beside MISSING and READ ERROR
#define IDS_VERDICT_SAME 5217
#define IDS_VERDICT_DIFFERENT 5218
#define IDS_VERDICT_EXTRA 5219
#define IDS_VERDICT_MOVED 5220
// The progress dialog's readouts; formats: %s amounts as AmountText writes them
#define IDS_PROGRESS_FILES 5230          // format: %s done, %s in all
#define IDS_PROGRESS_FILES_COUNTING 5231 // format: %s done; the count is not known yet
#define IDS_PROGRESS_BYTES 5232          // format: %s done, %s in all
#define IDS_PROGRESS_BYTES_COUNTING 5233 // format: %s done
#define IDS_PROGRESS_SPEED 5234          // format: %s an amount of bytes (a second)
#define IDS_PROGRESS_SPEED_UNKNOWN 5235
#define IDS_PROGRESS_TIME_LEFT 5236 // format: %s a duration, h:mm:ss or m:ss
#define IDS_PROGRESS_TIME_UNKNOWN 5237
#define IDS_DECIMAL_MARK 5238 // the one character between whole and tenths
// Messages
#define IDS_THREAD_FAILED 5300
#define IDS_CANNOT_STOP 5301
#define IDS_SAVE_FAILED 5302
#define IDS_SAVED 5303
#define IDS_BAD_COMMAND_LINE 5304
#define IDS_DROP_NO_MEMORY 5305
#define IDS_BAD_ARGUMENTS 5306 // format: one %s, the arguments, one per line
#define IDS_SAVE_KEPT 5307     // format: one %s, where the new list lies
#define IDS_COMPARE_MATCH 5308 // format: one %s, the path of the matching entry
#define IDS_COMPARE_NONE 5309
#define IDS_COMPARE_NO_DIGEST 5310
#define IDS_CHECK_REPLACE 5311
#define IDS_CHECK_TALLY 5312     // format: five %d, checked, OK, failed, missing, not checked
#define IDS_CHECK_NOTHING 5313   // format: one %s, the list
#define IDS_LIST_UNREADABLE 5314 // format: one %s, the list
// Recorded lists: the tally of their check, their update and their recording
#define IDS_CHECK_TALLY_RECORDED 5320 // format: nine %d, as TallyLine's recorded form
#define IDS_UPDATE_ASK 5321           // format: %s, the list, then four %d: modified, new, missing, corrupted
#define IDS_UPDATE_DONE 5322          // format: one %s, the list
#define IDS_UPDATE_CHANGED 5323       // format: one %s, the list
#define IDS_RECORD_CLEAR 5324
#define IDS_RECORD_REPLACE 5325 // format: one %s, the list
#define IDS_RECORD_SAVED 5326   // format: one %s, the list
#define IDS_RECORD_PARTLY 5327  // format: %s, the list, then one %d, the files left out
#define IDS_RECORD_NOTHING 5328 // format: one %s, the folder
// The comparison of two folders
#define IDS_COMPARE_TALLY 5330 // format: %s original, %s copy, then seven %d: same, different, missing, extra, moved, read errors, other Unicode forms
#define IDS_COMPARE_UNREADABLE 5331  // format: one %s, the folder
#define IDS_COMPARE_SAME_FOLDER 5332 // format: one %s, the folder
#define IDS_COMPARE_COPY_INSIDE 5333 // format: %s the copy, %s the original
#define IDS_COMPARE_REPLACE 5334
#define IDS_COMPARE_OTHER_FORM 5335 // format: %s the line, %s the copy's name in its other Unicode form
#define IDS_COMPARE_RECORD_FAILED 5336 // format: one %s, the list
// Save dialog and quick-sum dialog
#define IDS_SAVE_TITLE 5400
#define IDS_QUICKSUM_CAPTION 5401
#define IDS_TEXT_LABEL 5402
#define IDS_DIGEST_LABEL 5403
#define IDS_CHECK_TITLE 5404
#define IDS_RECORD_TITLE 5405
#define IDS_COMPARE_CAPTION 5410
#define IDS_COMPARE_ORIGINAL_LABEL 5411
#define IDS_COMPARE_COPY_LABEL 5412
#define IDS_COMPARE_BROWSE 5413
#define IDS_COMPARE_RECORD 5414
#define IDS_COMPARE_ORIGINAL_TITLE 5415
#define IDS_COMPARE_COPY_TITLE 5416
#define IDS_COMPARE_PROGRESS_CAPTION 5417
#define IDS_COMPARE_START 5418

// The Explorer extension's Digests page (dialog 104): controls 1100-1199, strings 5500-5599
#define IDS_PAGE_TITLE 5500
#define IDC_PAGE_ALGORITHMS 1100 // group box; its check boxes are made at run time, one per algorithm
#define IDC_PAGE_FILES 1101 // report list: name, a column per ticked algorithm, as recorded
#define IDC_PAGE_PROGRESS 1102
#define IDC_PAGE_STATUS 1103 // reading, done, folders left out
#define IDC_PAGE_DIGESTS 1104 // read-only edit: the selected file's digests
#define IDC_PAGE_VERDICT 1105 // the selected file as recorded, in its verdict's tone
#define IDC_PAGE_COMPARE_LABEL 1106
#define IDC_PAGE_COMPARE 1107
#define IDC_PAGE_MATCH 1108
#define IDC_PAGE_COPY_ALL 1109
#define IDC_PAGE_SAVE 1110
#define IDC_PAGE_LEFT_OUT 1111 // the folders of the selection left out
#define IDC_PAGE_ALGORITHM_FIRST 1150 // + DigestKind, up to 1199
#define IDS_PAGE_ALGORITHMS 5501
#define IDS_PAGE_NAME_COLUMN 5502
#define IDS_PAGE_RECORDED_COLUMN 5503
#define IDS_PAGE_COMPARE_LABEL 5504
#define IDS_PAGE_COPY_ALL 5505
#define IDS_PAGE_SAVE 5506
#define IDS_PAGE_READING 5507 // format: %1!u! files done, %2!u! in all
#define IDS_PAGE_DONE 5508 // format: %1!u! files
#define IDS_PAGE_FOLDERS_LEFT_OUT 5509 // format: %1!u! folders
#define IDS_PAGE_FOLDER_LEFT_OUT 5510
#define IDS_PAGE_OPEN_FAILED 5511
#define IDS_PAGE_READ_FAILED 5512
#define IDS_PAGE_WAITING 5513
#define IDS_PAGE_MATCH 5514 // format: %1 the algorithm, %2 the file
#define IDS_PAGE_MATCH_ONE 5515 // format: %1 the algorithm
#define IDS_PAGE_NO_MATCH 5516
#define IDS_PAGE_NO_DIGEST 5517
#define IDS_PAGE_MATCH_WAIT 5518
#define IDS_PAGE_VERDICT_CELL 5519 // format: %1 the verdict, %2 the list, %3 the date of its record
#define IDS_PAGE_SAVE_TITLE 5521
#define IDS_PAGE_SAVE_FILTER 5522 // format: %1 the algorithm
#define IDS_PAGE_SAVE_FAILED 5523 // format: %1 the list
#define IDS_PAGE_SAVED 5524 // format: %1 the list
#define IDS_PAGE_READING_FILE 5525 // format: %1 the file, %2 read, %3 its size, %4 the speed (amounts)

// The Explorer extension's Digestor menu: strings 5600-5649
#define IDS_MENU_DIGESTOR 5600
#define IDS_MENU_DIGEST_WITH 5601
#define IDS_MENU_RECORD 5602
#define IDS_MENU_CHECK 5603
#define IDS_MENU_COMPARE 5604
#define IDS_MENU_COMPARE_WITH 5605
#define IDS_MENU_DIGEST_HELP 5610
#define IDS_MENU_RECORD_HELP 5611
#define IDS_MENU_CHECK_HELP 5612
#define IDS_MENU_COMPARE_HELP 5613
#define IDS_MENU_COMPARE_WITH_HELP 5614
#define IDS_MENU_COMPARE_WITH_TITLE 5615 // the folder picker's title

// The window's command line: strings 5650-5699
#define IDS_UNKNOWN_ALGORITHM 5650  // format: one %s, the name given after /alg
#define IDS_ITEMS_UNREADABLE 5651   // format: one %s, the file given after /items
#define IDS_NOT_A_FOLDER 5652       // format: one %s, the path given after /record
#define IDS_COMMAND_LINE_FORMS 5653 // format: one %s, the argument not understood

// The walk's progress: strings 5700-5749
#define IDS_WALK_STARTED 5700
#define IDS_WALK_PROGRESS 5701 // format: %s the entries listed so far, %s the folder of the latest
#define IDS_WALK_STOPPED 5702  // format: %s the entries listed before the stop

#endif
