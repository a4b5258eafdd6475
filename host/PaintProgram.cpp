#include "PaintProgram.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iomanip>
#include <memory>
#include <new>
#include <optional>
#include <sstream>

#include <CLI/CLI.hpp>

#include "AtomicFile.h"
#include "ErrorMessage.h"
#include "HostErrors.h"
#include "LayerCheck.h"
#include "Painter.h"
#include "Printable.h"
#include "Progress.h"
#include "SavePoint.h"
#include "Script.h"
#include "StorageFile.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "gpu/Parallel.h"

namespace painthost {
namespace {

constexpr const char* kLogName = "paint.log";
constexpr const char* kVersion = "0.1.0";
constexpr std::size_t kMostThreads = 256;

struct Options {
  std::string script;
  std::string output = "paint-output";
  std::string load;
  std::size_t threads = 0;
  bool quiet = false;
  bool verbose = false;
  std::optional<std::uint64_t> machineMemory;
};

// The engine's console lines: with --verbose on the program's standard output; otherwise kept in
// memory until the run has passed its checks, then in the log file beside the outputs, so that a
// refused run writes nothing.
class ConsoleLog {
 public:
  explicit ConsoleLog(std::ostream* verbose)
      : verbose_(verbose), previous_(foundation::setConsoleSink([this](std::string_view line) { write(line); })) {}
  ~ConsoleLog() { foundation::setConsoleSink(previous_); }
  ConsoleLog(const ConsoleLog&) = delete;
  ConsoleLog& operator=(const ConsoleLog&) = delete;

  // From now on the lines go to the log file at `path` (none with --verbose). The log is a new
  // file renamed over `path`: a link there is replaced, not followed out of the output folder.
  void openAt(const std::filesystem::path& path) {
    if (verbose_ != nullptr) return;
    const TemporaryFile log = makeTemporaryBeside(path);
    std::error_code error;
    std::filesystem::rename(log.path, path, error);
    if (error) {
      ::close(log.descriptor);
      std::filesystem::remove(log.path, error);
      throw EngineFailure(path.string() + ": the log cannot be written");
    }
    file_.reset(::fdopen(log.descriptor, "w"));
    if (!file_) {
      ::close(log.descriptor);
      throw EngineFailure(path.string() + ": the log cannot be written");
    }
    for (const auto& line : pending_) writeLine(line);
    pending_.clear();
  }

 private:
  void write(std::string_view line) {
    if (verbose_ != nullptr) {
      *verbose_ << line << std::endl;
    } else if (file_) {
      writeLine(line);
    } else {
      pending_.emplace_back(line);
    }
  }
  void writeLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputc('\n', file_.get());
  }

  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::ostream* verbose_;
  foundation::ConsoleSink previous_;
  std::vector<std::string> pending_;
  std::unique_ptr<std::FILE, Close> file_;
};

// The worker thread count for the run, put back afterwards. A count above the machine's cores runs
// on its cores: the thread library makes no more threads than that, and says so in words of its own.
class WorkerThreads {
 public:
  explicit WorkerThreads(std::size_t count) : previous_(gpu::workerThreadCount()), set_(count > 0) {
    if (set_) gpu::setWorkerThreadCount(std::min(count, gpu::machineThreadCount()));
  }
  ~WorkerThreads() {
    if (set_) gpu::setWorkerThreadCount(previous_);
  }

 private:
  std::size_t previous_;
  bool set_;
};

std::string sizeText(std::uint64_t bytes) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1);
  if (bytes >= 1'000'000) {
    text << static_cast<double>(bytes) / 1e6 << " MB";
  } else {
    text << static_cast<double>(bytes) / 1e3 << " kB";
  }
  return text.str();
}

// The output folder must be one, or be makeable under a folder this program may write in.
void checkOutputFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::path existing = std::filesystem::absolute(folder, error);
  while (!existing.empty() && !std::filesystem::exists(existing, error)) existing = existing.parent_path();
  if (!std::filesystem::is_directory(existing, error)) throw BadInput(folder.string() + ": not a folder");
  if (::access(existing.c_str(), W_OK | X_OK) != 0) throw BadInput(folder.string() + ": this program may not write there");
}

// The storage file to start from, opened and held to the script's canvas; its layers are read
// once the engine has started.
std::unique_ptr<StorageReader> openStored(const Options& options, const Script& script) {
  if (options.load.empty()) return nullptr;
  auto reader = std::make_unique<StorageReader>(options.load);
  const StoredCanvas& stored = reader->canvas();
  const CanvasSettings& canvas = script.canvas;
  if (stored.width != canvas.width || stored.height != canvas.height || stored.scale != canvas.scale) {
    std::ostringstream text;
    text << options.load << ": stored from a " << stored.width << " x " << stored.height << " canvas at scale " << stored.scale
         << "; the script's canvas is " << canvas.width << " x " << canvas.height << " at scale " << canvas.scale;
    throw BadInput(text.str());
  }
  return reader;
}

int play(const Options& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  // Every input is read and checked before anything is written: the storage file's layers and the
  // script's layer steps once the engine has started, in the texture memory it leaves; the rest
  // before it starts.
  const std::filesystem::path scriptPath =
      options.script.empty() ? foundation::Bundle::main().root() / "examples" / "demo.json" : std::filesystem::path(options.script);
  const Script script = readScript(scriptPath);
  auto stored = openStored(options, script);
  const std::filesystem::path folder = options.output;
  checkOutputFolder(folder);

  const WorkerThreads threads(options.threads);
  ConsoleLog log(options.verbose ? &out : nullptr);
  // Past the checks, the run writes: the output folder and the log, from then on.
  auto startWriting = [&] {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw EngineFailure(folder.string() + ": the output folder cannot be made: " + error.message());
    log.openAt(folder / kLogName);
  };
  std::unique_ptr<Painter> started;
  try {
    started = std::make_unique<Painter>(script.canvas, options.machineMemory ? *options.machineMemory : physicalMemory());
    // A storage file the canvas refuses is bad input: nothing is written for it.
    if (stored) started->load(*stored);
  } catch (const EngineFailure&) {
    startWriting();  // the log says what the engine printed before it failed
    throw;
  }
  stored.reset();
  Painter& painter = *started;
  // The layer steps are followed from the canvas as it starts, in the texture memory it leaves.
  if (const auto note = checkLayerSteps(script, painter.startingLayers(), painter.historyMemory(), scriptPath.string())) {
    err << "tessivarium-paint: " << printable(*note) << std::endl;
  }
  startWriting();

  Progress progress(err, errIsTerminal && !options.quiet, static_cast<std::int64_t>(script.steps.size()), sampleCount(script));
  for (std::size_t i = 0; i < script.steps.size(); ++i) {
    const Step& step = script.steps[i];
    progress.startStep(static_cast<std::int64_t>(i), step.kind);
    painter.play(step, [&](std::int64_t samples) { progress.addSamples(samples); });
    if (const auto* save = std::get_if<Save>(&step.action)) {
      SavedFiles files;
      try {
        files = writeSavePoint(painter, folder, save->name);
      } catch (const EngineFailure& e) {
        throw EngineFailure(step.where + " (save): " + e.what());
      } catch (const tessivarium::Error& e) {
        throw EngineFailure(step.where + " (save): the engine reported " + e.what());
      }
      if (!options.quiet) {
        progress.clear();
        out << "saved " << save->name << ": "
            << printable(files.picture.string() + ", " + files.relief.string() + ", " + files.storage.string()) << " ("
            << sizeText(files.storageBytes) << " for " << sizeText(files.recordBytes) << " of records)" << std::endl;
      }
    }
  }
  progress.finish();
  if (!options.quiet && std::none_of(script.steps.begin(), script.steps.end(),
                                     [](const Step& s) { return std::holds_alternative<Save>(s.action); })) {
    err << "tessivarium-paint: the script has no save step, so nothing was saved" << std::endl;
  }
  return kExitOk;
}

// A worker thread count: a whole number, 1 to kMostThreads.
CLI::Validator threadCount() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        std::size_t count = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (error == std::errc::result_out_of_range) return text + " is not 1 to " + std::to_string(kMostThreads);
        if (error != std::errc() || end != text.data() + text.size()) return text + " is not a whole number";
        if (count < 1 || count > kMostThreads) return text + " is not 1 to " + std::to_string(kMostThreads);
        return {};
      },
      "1 to " + std::to_string(kMostThreads));
}

// A file or folder name: an empty one names none (and would otherwise read as no name given).
CLI::Validator named() {
  return CLI::Validator([](std::string& text) -> std::string { return text.empty() ? "an empty name names nothing" : ""; },
                        "");
}

}  // namespace

int runPaint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal,
             std::optional<std::uint64_t> machineMemory) {
  Options options;
  options.machineMemory = machineMemory;
  CLI::App app("Plays a painting script through the Tessivarium engine and writes, at each save step, the picture, "
               "its relief and the canvas's storage file.",
               "tessivarium-paint");
  app.add_option("script", options.script, "the script (JSON); without one, the demonstration resources/examples/demo.json")
      ->check(named());
  app.add_option("-o,--output", options.output, "the folder the files go to")->capture_default_str()->check(named());
  app.add_option("--load", options.load, "start from a storage file a save step wrote")->check(named());
  app.add_option("--threads", options.threads,
                 "worker threads, at most the machine's cores: a larger count runs on the cores (the output does not "
                 "depend on them)")
      ->check(threadCount());
  app.add_flag("-q,--quiet", options.quiet, "no progress bar and no save lines");
  app.add_flag("-v,--verbose", options.verbose, "the engine's console lines on standard output instead of in paint.log");
  app.set_version_flag("--version", std::string("tessivarium-paint ") + kVersion + " (storage files of format version " +
                                        std::to_string(kStorageVersion) + ")");
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << std::endl;
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "tessivarium-paint: " << printable(e.what()) << "\n" << "Run with --help for the options." << std::endl;
    return kExitBadInput;
  }
  try {
    return play(options, out, err, errIsTerminal);
  } catch (const BadInput& e) {
    err << "tessivarium-paint: " << e.what() << std::endl;
    return kExitBadInput;
  } catch (const EngineFailure& e) {
    err << "tessivarium-paint: " << e.what() << std::endl;
    return kExitEngineFailure;
  } catch (const std::bad_alloc&) {
    err << "tessivarium-paint: stopped: out of memory" << std::endl;
    return kExitEngineFailure;
  } catch (const std::exception& e) {
    // Anything else (a file system that fails) stops the run as a failure of its own.
    err << "tessivarium-paint: stopped: " << printable(e.what()) << std::endl;
    return kExitEngineFailure;
  }
}

}  // namespace painthost
