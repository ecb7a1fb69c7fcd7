# Makes the models that propbridge's tests take as "edited in Blender", once, with Blender's own
# glTF exporter. Run from the top folder of the sources, after a build:
#
#   blender -b --python tests/propbridge/blender/make_models.py -- build/bin
#
# It builds the example game (make_example_game), exports its shelf with propbridge, opens that
# in Blender, edits it as a user would, and exports it into this folder:
#   - the objects renamed: frame becomes "legs", shelves becomes "seat";
#   - the books' material (demo_books.dds) gets a picture, cushion.png;
#   - the seat's boards get a copy of their material, which Blender names demo_wood_light.dds.001;
#   - exported with the default settings (Custom Properties not ticked) as shelf_blender.glb and,
#     as glTF Separate, shelf_blender.gltf + shelf_blender.bin + cushion.png;
#   - exported once more with Custom Properties ticked as shelf_blender_extras.glb.
import os
import shutil
import subprocess
import sys
import tempfile

import bpy
import numpy

# Blender 3.4's importer still uses numpy.bool, which numpy 1.24 removed; it was bool itself.
if not hasattr(numpy, "bool"):
    numpy.bool = bool

HERE = os.path.dirname(os.path.abspath(__file__))


def main(bin_folder):
    bin_folder = os.path.abspath(bin_folder)
    work = tempfile.mkdtemp(prefix="propbridge-blender-")
    subprocess.run([os.path.join(bin_folder, "make_example_game"), work], check=True)
    env = dict(os.environ, REELMARA_REGISTRY=os.path.join(work, "reelmara.reg"), REELMARA_NO_PAUSE="1")
    subprocess.run([os.path.join(bin_folder, "propbridge"), "export", "p_demo_shelf.msh", "-o", "model"],
                   cwd=work, env=env, check=True)

    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.ops.import_scene.gltf(filepath=os.path.join(work, "model", "p_demo_shelf.gltf"))
    objects = bpy.data.objects
    objects["frame"].name = "legs"
    objects["shelves"].name = "seat"

    # A small picture, written where the separate export copies it from.
    picture = bpy.data.images.new("cushion", 4, 4)
    picture.pixels = [0.8, 0.2, 0.2, 1.0] * 16
    picture.filepath_raw = os.path.join(work, "cushion.png")
    picture.file_format = "PNG"
    picture.save()
    books = bpy.data.materials["demo_books.dds"]
    nodes = books.node_tree.nodes
    texture = nodes.new("ShaderNodeTexImage")
    texture.image = picture
    books.node_tree.links.new(texture.outputs["Color"], nodes["Principled BSDF"].inputs["Base Color"])

    boards = bpy.data.materials["demo_wood_light.dds"].copy()  # named demo_wood_light.dds.001
    seat = objects["seat"]
    for slot in seat.material_slots:
        if slot.material.name == "demo_wood_light.dds":
            slot.material = boards

    bpy.ops.export_scene.gltf(filepath=os.path.join(HERE, "shelf_blender.glb"))
    bpy.ops.export_scene.gltf(filepath=os.path.join(HERE, "shelf_blender.gltf"), export_format="GLTF_SEPARATE")
    bpy.ops.export_scene.gltf(filepath=os.path.join(HERE, "shelf_blender_extras.glb"), export_extras=True)
    shutil.rmtree(work)


main(sys.argv[sys.argv.index("--") + 1])
