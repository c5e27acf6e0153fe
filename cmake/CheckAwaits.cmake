# Fails when a source under SRC awaits inside a condition: g++ 12 miscompiles
# `if (co_await ...)`, `while (co_await ...)`, `switch (co_await ...)` and a
# co_await on the right of && or || (see src/frame/task.h). Await into a
# named local, then test it.
file(GLOB_RECURSE sources "${SRC}/*.cpp" "${SRC}/*.h")
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "co_await")
  foreach(line IN LISTS lines)
    if(line MATCHES "(if|while|switch) \\(([^()]|\\([^()]*\\))*co_await" OR line MATCHES "(&&|\\|\\|) *!?co_await")
      string(APPEND found "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "co_await inside a condition:${found}")
endif()
