# The .deb installs under /usr; the tarball unpacks to a tree of its own.
if(CPACK_GENERATOR STREQUAL "TGZ")
	set(CPACK_PACKAGING_INSTALL_PREFIX "/")
endif()
