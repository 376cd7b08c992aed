#include "app/trace_writer.h"

#include "core/trace_record.h"
#include "platform/clock.h"

namespace kv {

TraceWriter::~TraceWriter() {
  if (file_) std::fclose(file_);
}

bool TraceWriter::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void TraceWriter::write(const std::string& event) {
  writeLine(traceRecord(event, clock_.nowMs()));
}

void TraceWriter::writeTerrain() {
  writeLine(terrainRecord(clock_.nowMs()));
}

void TraceWriter::writeLine(const std::string& record) {
  if (!file_) return;
  const std::string line = record + "\n";
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace kv
