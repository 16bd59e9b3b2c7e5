/* The window program's icons, by resource number: read by the resource
   compiler and by the program. */
#pragma once

#define IDI_TESSALDRIN_MOVER 1
#define IDI_START 2
#define IDI_CLOSE 3
#define IDI_CLOSE_DISABLED 4
#define IDI_OK 5
#define IDI_CANCEL 6
