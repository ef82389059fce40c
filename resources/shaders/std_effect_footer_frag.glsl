    // Runs after the effect's own code: clip to the painted rectangle, then
    // let the selection mask blend the effect over the untouched layer.
    if (clippedByPaintedRect())
        discard;
    if (f_clipToSelection) {
        vec4 frameLayer = texture(f_currentLayerTexture, v_texCoords0);
        float frameSelection = texture(f_selectionLayerTexture, v_texCoords0).a;
        f_color = frameSelection == 0.0 ? frameLayer : mix(frameLayer, f_color, frameSelection);
    }
