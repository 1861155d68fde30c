# kova_library(<name> <folder> [QT] [EXCLUDE <file>...] <deps>...)
# Builds one library from every .cpp in <folder> (not below it), with the Qt
# resource files (.qrc) of <folder> and its subfolders. A folder with no
# sources yet gives an interface library, so the tree builds at every stage.
function(kova_library name folder)
  set(options QT)
  set(multi EXCLUDE)
  cmake_parse_arguments(K "${options}" "" "${multi}" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(GLOB qrcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.qrc ${CMAKE_SOURCE_DIR}/${folder}/*/*.qrc)
  foreach(ex IN LISTS K_EXCLUDE)
    list(REMOVE_ITEM srcs ${CMAKE_SOURCE_DIR}/${folder}/${ex})
  endforeach()
  set(deps ${K_UNPARSED_ARGUMENTS})
  if(K_QT)
    list(APPEND deps Qt6::Core Qt6::Gui Qt6::Widgets Qt6::SerialPort Qt6::PrintSupport)
  endif()
  if(srcs)
    add_library(${name} SHARED ${srcs} ${hdrs} ${qrcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${deps})
    if(K_QT)
      set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${deps})
  endif()
endfunction()

# kova_tests(<folder>): in tests/<folder>, every *_test.cpp goes into one
# GoogleTest program test_<folder>; every tst_*.cpp is a QtTest program of its
# own. All link every project library.
function(kova_tests folder)
  set(dir ${CMAKE_SOURCE_DIR}/tests/${folder})
  file(GLOB gsrcs CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${dir}/*.h ${dir}/support/*.h)
  # Every test program ends the processes it started when it ends.
  set(endwith ${CMAKE_SOURCE_DIR}/tests/common/EndWithTest.cpp)
  # The simulator's path also at compile time, so a test program also runs
  # on its own (it finds the build's Default.KOVA2 beside it).
  set(paths KOVA_TEST_RELAY_SIM="${CMAKE_BINARY_DIR}/tools/relay-sim/relay-sim")
  # Shared test helpers are compiled once per folder, not once per program.
  file(GLOB support CONFIGURE_DEPENDS ${dir}/support/*.cpp)
  set(supportlib)
  if(support)
    set(supportlib kova_test_support_${folder})
    add_library(${supportlib} STATIC ${support} ${helpers})
    target_link_libraries(${supportlib} PUBLIC kova_all Qt6::Test GTest::gtest)
    target_include_directories(${supportlib} PUBLIC ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${supportlib} PUBLIC ${paths})
    set_target_properties(${supportlib} PROPERTIES AUTOMOC ON)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen"
          "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
          "KOVA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
          "KOVA_RELAY_SIM=${CMAKE_BINARY_DIR}/tools/relay-sim/relay-sim"
          "KOVA_MODEM_SIM=${CMAKE_BINARY_DIR}/tools/modem-sim/modem-sim")
  if(gsrcs)
    add_executable(test_${folder} ${gsrcs} ${helpers} ${endwith})
    target_link_libraries(test_${folder} PRIVATE ${supportlib} kova_all Qt6::Test GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(test_${folder} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(test_${folder} PRIVATE ${paths})
    set_target_properties(test_${folder} PROPERTIES AUTOMOC ON)
    add_dependencies(test_${folder} relay-sim modem-sim default_file)
    # Discovered tests cannot carry a list-valued ENVIRONMENT property, so
    # the program is started through env with the same settings instead.
    set_target_properties(test_${folder} PROPERTIES CROSSCOMPILING_EMULATOR "/usr/bin/env;${env}")
    gtest_discover_tests(test_${folder} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
  file(GLOB qsrcs CONFIGURE_DEPENDS ${dir}/tst_*.cpp)
  foreach(src IN LISTS qsrcs)
    get_filename_component(base ${src} NAME_WE)
    set(t ${folder}_${base})
    add_executable(${t} ${src} ${helpers} ${endwith})
    target_link_libraries(${t} PRIVATE ${supportlib} kova_all Qt6::Test)
    target_include_directories(${t} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${t} PRIVATE ${paths})
    set_target_properties(${t} PROPERTIES AUTOMOC ON)
    add_dependencies(${t} relay-sim modem-sim default_file)
    add_test(NAME ${t} COMMAND ${t})
    set_tests_properties(${t} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  endforeach()
endfunction()
