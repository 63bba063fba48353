// Resource identifiers of the program's executable; shared by the .rc file and the code.
#pragma once

#define IDI_HUSHLINE 1
#define IDB_FORM1_PICTURE 101
