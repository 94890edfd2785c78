// Resource IDs of the window support library's test program.
#ifndef VELW32_TEST_IDS_H
#define VELW32_TEST_IDS_H

#define TEST_IDS_SHORT   10
#define TEST_IDS_LONG    11
#define TEST_IDS_FILE    12
#define TEST_IDS_NEW     13
#define TEST_IDS_HELP    14
#define TEST_IDS_ABOUT   15
#define TEST_IDS_MISSING 999

#define TEST_IDM_MENU    7
#define TEST_CMD_NEW     12
#define TEST_CMD_EXIT    19
#define TEST_CMD_ABOUT   25

#endif
