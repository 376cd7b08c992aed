#include "app/trace_writer.h"

#include "core/trace_record.h"
#include "platform/seam/clock.h"

namespace kv {

bool TraceWriter::open(HarnessOutputs& outputs, const std::string& path) {
  file_ = std::make_unique<OutputFile>(outputs, "the trace file", path);
  return file_->create();
}

void TraceWriter::write(const std::string& event) {
  writeLine(traceRecord(event, clock_.nowMs()));
}

void TraceWriter::writeTerrain() {
  writeLine(terrainRecord(clock_.nowMs()));
}

void TraceWriter::write(const std::string& event, uint32_t timeMs) {
  writeLine(traceRecord(event, timeMs));
}

void TraceWriter::writeTerrain(uint32_t timeMs) {
  writeLine(terrainRecord(timeMs));
}

void TraceWriter::writeLine(const std::string& record) {
  if (stopped_ || !file_ || !file_->isOpen()) return;
  file_->write(record + "\n");
}

bool TraceWriter::close() {
  return !file_ || file_->close();
}

}  // namespace kv
