// A fixed set of worker threads for the engines' parallel tasks. Creating a
// thread per task cost more than many tasks themselves. A batch of tasks is
// numbered; each task draws from its own engine chosen by its number, so
// which thread runs it, and when, changes no result. The calling thread
// takes tasks of its own batch too, so a batch always finishes, even with no
// workers or from inside another batch's task. Workers join in only once a
// batch has run for a while: most batches are over before a woken thread
// would have started.
#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace Marevane::ComputerAI {

// Runs task(0) .. task(count - 1) on the pool and the calling thread and
// returns when every one has ended. Answers each task's exception (null for
// a task that ended normally); none escapes a worker.
std::vector<std::exception_ptr> RunTasks(std::size_t count, const std::function<void(std::size_t)>& task);

// The number of worker threads besides the caller: by default one less than
// the processors the process may use. Setting it waits for running batches
// to end and replaces the workers (0: every task runs on the calling
// thread). `shareAfter` is how long a batch runs on its caller alone before
// workers are woken; tests set 0 to spread every batch.
constexpr std::chrono::microseconds DefaultTaskShareAfter{2000};
void SetTaskWorkerCount(std::size_t count, std::chrono::microseconds shareAfter = DefaultTaskShareAfter);
std::size_t GetTaskWorkerCount();

} // namespace Marevane::ComputerAI
