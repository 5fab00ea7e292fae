// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define IDI_TESSMERE 100

#define IDM_FILE_OPEN 200
#define IDM_FILE_SAVE 201
#define IDM_FILE_EXIT 202
