#pragma once

#include "PersonRecord.h"

// One row of a tree table as the engine hands it over: the columns in the order of
// kPersonColumns (ID first, Notes last), each as UTF-8 bytes. A NULL column, or one the table
// lacks, has no data and size 0. The bytes are valid only during the call that passes the row.
struct PersonRowText
{
    static constexpr int kColumns = kPersonColumnCount;
    const char *data[kColumns];
    int size[kColumns];
};
