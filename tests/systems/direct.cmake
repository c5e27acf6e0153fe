# The direct solvers and the condition numbers: whole commands through the
# registry with golden traces, their estimates, the singular values on their
# own, the printed solutions against Eigen's, and the exact mode.
foreach(name test_direct_solvers test_solver_estimates test_singular_values
             test_solver_agreement test_exact_solvers)
  matcalc_gtest(${name} LINK matcalc_test_support matcalc_systems matcalc_direct matcalc_commands
                matcalc_frame matcalc_linalg matcalc_text SOURCES ${name}.cpp)
endforeach()
find_package(Eigen3 3.3 REQUIRED NO_MODULE)
target_link_libraries(test_singular_values PRIVATE Eigen3::Eigen)
target_link_libraries(test_solver_agreement PRIVATE Eigen3::Eigen)
