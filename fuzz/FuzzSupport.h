#pragma once
// What the fuzz targets share: the one application object, inputs cut into
// message sequences, and a private folder for file-reading targets.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// Every target defines this; libFuzzer and the corpus replay both call it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kelpo::fuzz {

// A QApplication on the offscreen platform, made on first use and kept.
void EnsureApplication();

// Delivers every event the input posted, deferred deletions included, as
// the event loop would between two inputs. Left queued, they pile up from
// input to input, and every input then looks to the fuzzer like a leak,
// which it answers with a scan of the whole heap.
void SettleEvents();

// An input read as messages, each a 2-byte big-endian length and that many
// bytes (fewer at the end of the input). Empty messages are kept: they are
// inputs too.
std::vector<QByteArray> MessageSequence(const std::uint8_t* data, std::size_t size);

// The inverse, for tools that write corpus entries.
void AppendSequenceEntry(QByteArray& out, const QByteArray& message);

// A folder of this process's own, kept for its lifetime.
QString ScratchFolder();

// Writes bytes to path, replacing the file.
void WriteFile(const QString& path, const std::uint8_t* data, std::size_t size);

// Stops the run loudly: a broken invariant is a finding.
[[noreturn]] void Fail(const char* what);

} // namespace kelpo::fuzz
