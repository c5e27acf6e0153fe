# The iterative solvers: whole commands through the runner, their estimates
# and series, and the spectral radius against Eigen's solver.
foreach(name test_iterative test_spectral_radius)
  matcalc_gtest(${name} LINK matcalc_test_support matcalc_systems matcalc_commands matcalc_frame
                matcalc_linalg matcalc_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp)
endforeach()
find_package(Eigen3 3.3 REQUIRED NO_MODULE)
target_link_libraries(test_spectral_radius PRIVATE Eigen3::Eigen)
