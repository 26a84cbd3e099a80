#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

struct fz_context;
struct pdf_document;

// A PDF document that MuPDF reads from bytes in memory, unlocked with a password; dropped with
// this object.
//
// MuPDF reports errors with longjmp, which must never skip a C++ destructor. Opening catches
// its own errors, so an instance may live in the frame of a function with an fz_try block of
// its own, declared before that block and never inside it.
//
// Thread: the one that uses ctx.
class MupdfDocument {
public:
    enum class Status { Open, Failed, Locked };

    // Opens bytes in ctx; both must outlive this object. After Failed, MuPDF's error is in ctx
    // (fz_caught_message).
    MupdfDocument(fz_context* ctx, QByteArrayView bytes, const char* password);
    ~MupdfDocument();

    MupdfDocument(const MupdfDocument&) = delete;
    MupdfDocument& operator=(const MupdfDocument&) = delete;

    Status status() const { return status_; }
    // The open document; null unless Open.
    pdf_document* get() const { return doc_; }
    // 0 unless Open.
    int pageCount() const { return pageCount_; }

    // The document written whole, without the objects nothing refers to and encrypted as it
    // was; every stream is kept as it is compressed, and with compressesPlainStreams, those
    // stored uncompressed are deflated. Nothing when it cannot be, with MuPDF's error in ctx.
    std::optional<QByteArray> written(bool compressesPlainStreams) const;

private:
    fz_context* ctx_;
    pdf_document* doc_ = nullptr;
    int pageCount_ = 0;
    Status status_ = Status::Failed;
};
