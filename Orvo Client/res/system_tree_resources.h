// The system tree's resources.
#pragma once

#define IDB_SYSTEM_TREE 293
