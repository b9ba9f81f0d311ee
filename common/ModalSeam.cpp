#include "ModalSeam.h"

#include <QDialog>

namespace {
ModalSeam::Driver g_driver;
}

int ModalSeam::exec(QDialog &dialog)
{
    if (g_driver) {
        // Copy: the driver may open nested dialogs that replace it.
        const Driver driver = g_driver;
        return driver(dialog);
    }
    return dialog.exec();
}

void ModalSeam::setDriver(Driver driver)
{
    g_driver = std::move(driver);
}

bool ModalSeam::hasDriver()
{
    return bool(g_driver);
}
