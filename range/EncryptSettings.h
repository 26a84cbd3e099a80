#pragma once

// What the Encrypt page of the settings sets, kept in the program's settings: whether a
// password-protected file unlocked with its owner password is saved without a password. Off at
// first: saved files keep their password. Each save reads it afresh.
namespace EncryptSettings {

bool removesPassword();
void setRemovesPassword(bool on);

} // namespace EncryptSettings
