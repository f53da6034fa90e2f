# The layers of Velmora's code and what each may include. One table for the
# build's check (CheckLayers.cmake) and for the reader: a file belongs to the
# first layer whose pattern matches its path (relative to the repository);
# it may include headers of its own layer and of the layers named in USES.
# Files of no layer (tests, benchmarks, folders not listed yet) are not
# checked, and headers of no layer may be included by anyone.
#
#   windows     the windows (*.win32.* of the portable folders)
#   framework   our small Win32 framework
#   win32       the Win32 implementation of the seam
#   base        the byte type and the result/error values (header only)
#   seam        the platform interface, the reporter, UTF-16 and case helpers
#   descriptor  the descriptor model: SID, ACL, descriptor, SDDL, rights
#   engine      the security engine over the seam
#   rules       Windows' own security rules over descriptors (access check,
#               inheritance and propagation, generic mapping, paths, the
#               account table), shared by every Platform that applies them
#   sim         the simulated machine (a Platform over the descriptor model)
#   ntfs        NTFS volumes mounted on Linux (a Platform over the same rules)
#   clihost     the command line's programs: its Windows console and the
#               Linux program over NTFS volumes
#   cli         the command line's portable run (velmora-cli)
#   files       the program's own files (profile files, whole-file I/O)
#   resources   resource ids and texts (constants only)
#   models      every other portable model, the command table included
#   demoprogram velmora-demo.exe's entry point (demo/*.win32.*): the windows
#               over the simulated machine
#   demo        the demonstration program's portable part (demo/): its
#               machine files and the Platform it replaces the machine in

set(VELMORA_LAYERS windows framework win32 base seam descriptor engine rules sim ntfs clihost
    cli files resources
    models demoprogram demo)

set(VELMORA_PORTABLE_FOLDERS "app|backup|lists|advanced|bookmarks|controls")

set(VELMORA_LAYER_windows_FILES "^(${VELMORA_PORTABLE_FOLDERS}|security)/[^/]+\\.win32\\.(h|cpp)$")
set(VELMORA_LAYER_windows_USES
    framework win32 models engine descriptor files seam base resources)
set(VELMORA_LAYER_framework_FILES "^framework/")
set(VELMORA_LAYER_framework_USES win32 seam base resources)
set(VELMORA_LAYER_win32_FILES "^platform/win32/")
set(VELMORA_LAYER_win32_USES descriptor seam base)
set(VELMORA_LAYER_base_FILES "^platform/(Bytes|Result)\\.h$")
set(VELMORA_LAYER_base_USES)
set(VELMORA_LAYER_seam_FILES "^platform/[^/]+$")
set(VELMORA_LAYER_seam_USES base)
set(VELMORA_LAYER_descriptor_FILES "^security/(Sid|Acl|SecurityDescriptor|Sddl|Rights)\\.(h|cpp)$")
set(VELMORA_LAYER_descriptor_USES base resources)
set(VELMORA_LAYER_engine_FILES "^security/[^/]+$")
set(VELMORA_LAYER_engine_USES descriptor seam base resources)
set(VELMORA_LAYER_rules_FILES "^platform/rules/")
set(VELMORA_LAYER_rules_USES descriptor seam base)
set(VELMORA_LAYER_sim_FILES "^platform/sim/")
set(VELMORA_LAYER_sim_USES rules descriptor seam base)
set(VELMORA_LAYER_ntfs_FILES "^platform/ntfs/")
set(VELMORA_LAYER_ntfs_USES rules descriptor seam base)
set(VELMORA_LAYER_clihost_FILES "^cli/(Volume(Main|Host)\\.(h|cpp)|[^/]+\\.win32\\.(h|cpp))$")
set(VELMORA_LAYER_clihost_USES cli ntfs win32 rules models engine descriptor files seam base
    resources)
set(VELMORA_LAYER_cli_FILES "^cli/")
set(VELMORA_LAYER_cli_USES rules models engine descriptor files seam base resources)
set(VELMORA_LAYER_files_FILES "^files/")
set(VELMORA_LAYER_files_USES seam base)
set(VELMORA_LAYER_resources_FILES "^resources/[^/]+\\.h$")
set(VELMORA_LAYER_resources_USES)
set(VELMORA_LAYER_models_FILES "^(${VELMORA_PORTABLE_FOLDERS})/[^/]+\\.(h|cpp)$")
set(VELMORA_LAYER_models_USES engine descriptor files seam base resources)
set(VELMORA_LAYER_demoprogram_FILES "^demo/[^/]+\\.win32\\.(h|cpp)$")
set(VELMORA_LAYER_demoprogram_USES
    demo windows framework win32 models engine sim descriptor files seam base resources)
set(VELMORA_LAYER_demo_FILES "^demo/")
set(VELMORA_LAYER_demo_USES models engine sim descriptor files seam base resources)

# The descriptor model's files inside security/ (the rest of security/ is the
# engine); the libraries below are built from these same lists.
set(VELMORA_DESCRIPTOR_NAMES Sid Acl SecurityDescriptor Sddl Rights)

# The layer of a repository-relative path, or "" when it belongs to none.
function(velmora_layer_of path out)
    foreach(layer IN LISTS VELMORA_LAYERS)
        if(path MATCHES "${VELMORA_LAYER_${layer}_FILES}")
            set(${out} ${layer} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()
