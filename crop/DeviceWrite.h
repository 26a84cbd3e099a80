#pragma once

#include <QByteArrayView>

class QIODevice;

// Writes into the file being saved so that a failure keeps the system's reason for it.
//
// When the disk can take only part of a write, Qt writes that part, reports no error and
// describes the failure as "Unknown error". Writing the rest again fails at once with the
// system's error number (ENOSPC for a full disk), which is what lets the user be told what
// happened.
namespace DeviceWrite {

// Writes all of bytes to out. Throws std::system_error with the system's error number when
// they cannot all be written, or std::runtime_error with the device's error text when the
// system gave none.
void writeAll(QIODevice& out, QByteArrayView bytes);

} // namespace DeviceWrite
