#pragma once

#include <QString>

// Hands `message` to the caller's error text, when the caller asked for one, and answers false: the one way a
// function that answers true or false says why it failed.
inline bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}
