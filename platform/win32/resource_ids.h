// Numbers of brumby.exe's own resources, shared by its resource script and the code that loads them.
#pragma once

#define APPLICATION_ICON 1
