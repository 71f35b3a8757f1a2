/* Identifiers shared by the resource script and the code. Plain defines
   only: windres reads this file too. Banded by kind. */
#ifndef CRATEWISE_RESOURCE_H
#define CRATEWISE_RESOURCE_H

/* Icons, 100-199 */
#define IDI_PRODUCT 100

/* Bitmaps, 200-299 */
#define IDB_PAGE   200
#define IDB_GROUP  201
#define IDB_HEADER 202

/* Dialog templates, 1000-1099 */
#define IDD_SPLASH    1000
#define IDD_AGREEMENT 1002
#define IDD_LOCATION  1003
#define IDD_COPY      1004
#define IDD_GROUP     1005

/* Controls with a role on every page */
#define IDC_AFFIRM 1
#define IDC_NEGATE 2
#define IDC_ACCENT 600
#define IDC_UNUSED -1

/* Agreement page, 200-299 */
#define IDC_AGREEMENT_TEXT 200

/* Destination folder page, 300-399 */
#define IDC_FOLDER_EDIT  300
#define IDC_FOLDER_LIST  301
#define IDC_FOLDER_RESET 302

/* Copy page, 400-499 */
#define IDC_COPY_ACTION     400
#define IDC_COPY_FILE       401
#define IDC_COPY_PATH_LABEL 403
#define IDC_COPY_PATH       404
#define IDC_COPY_METER      405

/* Group page, 500-599 and its Continue */
#define IDC_GROUP_COMBO    500
#define IDC_GROUP_RESET    501
#define IDC_GROUP_CONTINUE 2000

#endif
