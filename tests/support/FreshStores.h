#pragma once

// New database files for the store's tests: each opened in a data folder of its own inside one
// temporary folder.
#include "mDatabase.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class FreshStores
{
public:
    bool isValid() const { return m_dir.isValid(); }

    // A store open on a new database (the template and the example tree); null when it could
    // not be opened.
    std::unique_ptr<mDatabase> open()
    {
        auto store = std::make_unique<mDatabase>();
        store->BuildConnectionString(m_dir.filePath(QString::number(++m_folders)) + '/');
        if (!store->OpenDatabase())
            return nullptr;
        return store;
    }

private:
    QTemporaryDir m_dir;
    int m_folders = 0;
};
