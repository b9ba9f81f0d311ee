#pragma once

#include <functional>

class QDialog;

// Every modal window is shown through this seam. The program runs the dialog's own event loop;
// a test installs a driver that works the dialog's controls and returns its result instead.
class ModalSeam
{
public:
    using Driver = std::function<int(QDialog &dialog)>;

    static int exec(QDialog &dialog);
    static void setDriver(Driver driver);
    static bool hasDriver();
};

class ScopedModalDriver
{
public:
    explicit ScopedModalDriver(ModalSeam::Driver driver) { ModalSeam::setDriver(std::move(driver)); }
    ~ScopedModalDriver() { ModalSeam::setDriver({}); }
    ScopedModalDriver(const ScopedModalDriver &) = delete;
    ScopedModalDriver &operator=(const ScopedModalDriver &) = delete;
};
