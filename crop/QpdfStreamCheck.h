#pragma once

class QPDF;
class QPDFObjectHandle;

// Whether a stream's data can be read: taken from the file, decrypted and decoded through
// every filter that qpdf undoes without loss, without a warning, into a pipeline that keeps
// nothing, so even a stream of hundreds of megabytes costs no memory.
//
// qpdf's own check decodes JPEG images too, at about 15 MB of them a second: half a minute
// for a 500 MB scanned document, whose whole save takes seconds. So a JPEG is only checked to
// be framed as one, starting and ending with its markers: data decrypted with the wrong key, or
// cut short, is not, and a save copies what lies between them untouched.
namespace QpdfStreamCheck {

// stream belongs to pdf, whose warnings tell of a failed decode; the ones this adds stay.
bool reads(QPDF& pdf, QPDFObjectHandle stream);

} // namespace QpdfStreamCheck
