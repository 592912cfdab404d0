# One warning set for all of our own targets.
function(strandel_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion
                                             $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
  endif()
  if(STRANDEL_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE $<IF:$<BOOL:${MSVC}>,/WX,-Werror>)
  endif()
endfunction()
