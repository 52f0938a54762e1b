# VEL_SANITIZE: build everything with a sanitizer, in a build directory of its
# own (-DVEL_SANITIZE=thread or -DVEL_SANITIZE=address,undefined).
#
# The tests host a real Java VM, which the sanitizers do not instrument; the
# run-time options it needs are set on every test (vel_add_gtest) from
# VEL_SANITIZER_TEST_ENVIRONMENT:
# - AddressSanitizer leaves SIGSEGV to the VM, which uses it for null checks
#   and safepoints, and does not look for leaks (the VM keeps its heap to the
#   end of the process);
# - ThreadSanitizer suppresses the VM's own races by library only (see
#   cmake/sanitizers/tsan.supp); the project's code is never suppressed.
set(VEL_SANITIZE "" CACHE STRING "Sanitizers to build with: thread, or address,undefined")
set_property(CACHE VEL_SANITIZE PROPERTY STRINGS "" thread "address,undefined")
set(VEL_SANITIZER_TEST_ENVIRONMENT "")

if(VEL_SANITIZE STREQUAL "")
  return()
endif()

if(VEL_SANITIZE STREQUAL "thread")
  set(VEL_TSAN_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/sanitizers/tsan.supp)
  # second_deadlock_stack: both stacks of a lock-order report; halt_on_error:
  # a report fails the test instead of scrolling by.
  # LP_NUM_THREADS=0: Mesa's software renderer draws on the calling thread
  # instead of worker threads of its own, whose hand-overs (in uninstrumented
  # code) ThreadSanitizer cannot see.
  list(APPEND VEL_SANITIZER_TEST_ENVIRONMENT
    "TSAN_OPTIONS=suppressions=${VEL_TSAN_SUPPRESSIONS}:second_deadlock_stack=1:halt_on_error=1:exitcode=66:report_signal_unsafe=0"
    "LP_NUM_THREADS=0")
elseif(VEL_SANITIZE STREQUAL "address,undefined" OR VEL_SANITIZE STREQUAL "address"
       OR VEL_SANITIZE STREQUAL "undefined")
  # AddressSanitizer, for a process that also hosts the Java VM:
  # - handle_segv=0: the VM takes SIGSEGV on purpose (implicit null checks,
  #   safepoint polls, stack banging) and must be the one that handles it.
  #   A real SIGSEGV in our code then ends the process through the VM's
  #   fatal-error handler (an hs_err report with the native stack), which
  #   fails the test all the same; every other fault (overflows, use after
  #   free, undefined behaviour) is still the sanitizers' to report.
  # - allow_user_segv_handler=1: the VM may install its handlers over the
  #   ones AddressSanitizer keeps (SIGBUS, SIGFPE, which the VM uses for
  #   integer division by zero). With the runtime's defaults the VM was seen
  #   to start too (its handlers replace the sanitizer's); these two options
  #   make that ownership explicit instead of leaving it to defaults.
  # - use_sigaltstack=0: the VM's stack-overflow checks expect its handlers to
  #   run on the thread's own stack, not on an alternate one.
  # - detect_stack_use_after_return=0: frames moved to the heap would put
  #   native frames outside the stack bounds the VM records for each thread.
  # - detect_leaks=0: the VM keeps its heap and the threads it attached to the
  #   end of the process, and leak checking stops every thread of a VM that
  #   is still running; each would be a report with nothing of ours in it.
  # UndefinedBehaviorSanitizer: a report prints its stack and ends the test
  # (-fno-sanitize-recover below makes every check fatal).
  list(APPEND VEL_SANITIZER_TEST_ENVIRONMENT
    "ASAN_OPTIONS=handle_segv=0:allow_user_segv_handler=1:detect_leaks=0:use_sigaltstack=0:detect_stack_use_after_return=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
else()
  message(FATAL_ERROR "VEL_SANITIZE: '${VEL_SANITIZE}' is not one of: thread, address,undefined")
endif()

# -O1 -g1: line tables are all a report's stacks need; -O2 and full debug
# information would only lengthen the sanitizer builds CI makes.
set(vel_sanitize_flags -fsanitize=${VEL_SANITIZE} -fno-omit-frame-pointer -O1 -g1)
if(VEL_SANITIZE MATCHES "undefined")
  # A report must fail the test, not only print.
  list(APPEND vel_sanitize_flags -fno-sanitize-recover=undefined)
endif()
add_compile_options(${vel_sanitize_flags})
add_link_options(-fsanitize=${VEL_SANITIZE})
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ links its sanitizer runtimes (ThreadSanitizer's and AddressSanitizer's
  # alike) with --no-as-needed and leaves that
  # in force for every library after it. Programs then need every library of
  # their link interfaces in link order, EGL's ahead of the NDK stand-in's,
  # whose eglCreateWindowSurface then no longer stands in front of EGL's (EGL
  # is handed an ANativeWindow pointer as an X window). The plain build's
  # default again:
  add_link_options(-Wl,--as-needed)
endif()
message(STATUS "Sanitizers: ${VEL_SANITIZE}")
