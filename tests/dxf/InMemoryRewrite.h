#pragma once

#include "DxfLineReader.h"
#include "DxfStreamRewriter.h"
#include "ThreadedByteWriter.h"

#include <QBuffer>
#include <QByteArray>

namespace ornvale::test {

struct Rewritten {
    QByteArray output;
    DxfStreamRewriter::Outcome outcome;
};

// Runs the rewriter over a drawing held in memory, with reader blocks and a writer buffer of
// the given sizes (small ones put every boundary case within reach of short inputs).
inline Rewritten rewriteInMemory(const QByteArray& input, DxfStreamRewriter& rewriter,
                                 qsizetype readerBlockSize, qsizetype writerBufferSize) {
    QByteArray source = input;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray target;
    QBuffer out(&target);
    out.open(QIODevice::WriteOnly);
    DxfLineReader reader(in, readerBlockSize);
    Rewritten result;
    {
        ThreadedByteWriter writer(out, writerBufferSize);
        result.outcome = rewriter.rewrite(reader, writer);
    }
    result.output = target;
    return result;
}

} // namespace ornvale::test
