// Writes the catalog the page is built from, for the page's unit tests.
#include <iostream>

#include "web/catalog.h"

int main() { std::cout << matcalc::web::CatalogJson(); }
