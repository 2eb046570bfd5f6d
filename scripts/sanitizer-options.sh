# The sanitizers' options for the sanitized build and its tests (sourced):
# any report, leaks included, ends the process with a failure.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
